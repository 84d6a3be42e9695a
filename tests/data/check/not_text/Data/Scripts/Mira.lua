-- A misspelt name gives nil, which the chat box would show as "nil".
Talk.start("Mira")
Talk.say(Farm.kettleNmae)
Talk.bye()
