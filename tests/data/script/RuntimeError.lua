before = true
error("the well is dry")
after = true
