// HandlerTrap: to be written.
