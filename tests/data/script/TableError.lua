error({ code = 7 })
