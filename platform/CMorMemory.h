// The process's heap as the system sees it.
#pragma once

class CMorMemory
{
public:
    // Gives the pages of freed heap memory back to the system. The C library
    // keeps freed small blocks for later use, so a program that frees many of
    // them while it takes memory elsewhere (GL copying tiles into textures)
    // would hold both.
    static void returnFreedPages();
};
