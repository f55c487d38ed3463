#pragma once

// What the shared library exports: the library is compiled with hidden symbols, so only the
// classes and functions marked here are its interface. A static build keeps them as they are.
#define IXO_EXPORT __attribute__((visibility("default")))
