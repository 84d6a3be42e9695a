#!/usr/bin/env lua
before = 1
error("line three")
after = true
