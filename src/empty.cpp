// Keeps a room that has no code yet a valid library.
