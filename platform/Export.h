#pragma once

// Marks a symbol that the loadable package exports; everything else stays hidden.
#define MVT_EXPORT __attribute__((visibility("default")))
