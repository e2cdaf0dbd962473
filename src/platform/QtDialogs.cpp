// QtDialogs: to be written.
