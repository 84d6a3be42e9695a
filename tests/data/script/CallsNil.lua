NotAFunction()
