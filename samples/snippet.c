/* Threshold check, generated for the host. */
// Do not edit by hand.
if (value > limit) /* out of range */ flag = 1; // mark it
label = "/* not a comment */";
