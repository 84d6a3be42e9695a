-- On the fourth visit Mira has nothing more to say and offers no way out.
Talk.start("Mira")
if Talk.count("visits") >= 4 then
    Talk.say("I have nothing more to say.")
else
    Talk.say("Hello!")
    Talk.bye()
end
