Fence diagrams

This is text, not a description.
