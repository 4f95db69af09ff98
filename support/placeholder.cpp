// The support library's sources live beside this file.
