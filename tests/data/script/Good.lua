greeting = "hello"
return 1, 2, 3
