error(42)
