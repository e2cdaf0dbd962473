// Globals: to be written.
