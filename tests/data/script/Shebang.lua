#!/usr/bin/env lua
first = 1
error("line three")
