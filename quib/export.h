// QUIB_API marks what libquib.so exports; everything else in the engine stays hidden.
#pragma once

#define QUIB_API __attribute__((visibility("default")))
