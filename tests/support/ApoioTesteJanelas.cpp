// Window-test helpers live here as the rooms need them.
