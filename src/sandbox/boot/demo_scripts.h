// demo_scripts.h - the demo schema's scripts (src/sandbox/demo/*.sql), built
// into the binary so that an installed program needs no data files.
#pragma once

#include <cstddef>

namespace sandbox {

struct EmbeddedScript {
    const char* name;   // file name, e.g. "01_schema.sql"; null ends the list
    const char* text;
    size_t size;
};

// The scripts in name order, ended by an entry whose name is null.
const EmbeddedScript* embeddedDemoScripts();

} // namespace sandbox
