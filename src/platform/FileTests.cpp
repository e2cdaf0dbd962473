// FileTests: to be written.
