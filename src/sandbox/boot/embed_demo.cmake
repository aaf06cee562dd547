# embed_demo.cmake - writes the demo schema's .sql files into a C++ source
# (as byte arrays, so any text is safe), in name order.
# Usage: cmake -DDEMO_DIR=<dir> -DOUT=<file.cpp> -P embed_demo.cmake
file(GLOB scripts "${DEMO_DIR}/*.sql")
list(SORT scripts)
set(body "")
set(table "")
set(i 0)
foreach(f IN LISTS scripts)
  get_filename_component(name "${f}" NAME)
  file(READ "${f}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char script${i}[] = {${bytes} 0x00};\n")
  string(APPEND table "    {\"${name}\", reinterpret_cast<const char*>(script${i}), sizeof script${i} - 1},\n")
  math(EXPR i "${i} + 1")
endforeach()
set(content "// Generated from src/sandbox/demo by embed_demo.cmake; do not edit.
#include \"sandbox/boot/demo_scripts.h\"

namespace sandbox {
namespace {
${body}
const EmbeddedScript kScripts[] = {
${table}    {nullptr, nullptr, 0},
};
} // namespace

const EmbeddedScript* embeddedDemoScripts() { return kScripts; }

} // namespace sandbox
")
file(WRITE "${OUT}.tmp" "${content}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
