AddNPC(1, 2, "a", "b", "c")
