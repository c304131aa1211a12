// Animated sprites.
