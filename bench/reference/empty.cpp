// Keeps the reference library non-empty before any reference form exists.
