// HOST_API marks what libquibhost.so exports: the platform interface that the engine, the sound library,
// the framework and the programs call. The rest of the host layer stays hidden inside the library
// (tests reach it by linking the static copy, host_static).
#pragma once

#define HOST_API __attribute__((visibility("default")))
