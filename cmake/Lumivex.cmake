# Shared compile settings for every target of the tree.

if(LUMIVEX_NATIVE)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  set(LUMIVEX_SANITIZE "address,undefined" CACHE STRING "Sanitizers for the native build")
  if(LUMIVEX_SANITIZE)
    add_compile_options(-fsanitize=${LUMIVEX_SANITIZE} -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${LUMIVEX_SANITIZE})
  endif()
  # Pure code is instrumented for coverage-guided fuzzing; the fuzzer's main comes in at link.
  if(LUMIVEX_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
else()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
  # No mingw runtime DLL may be needed beside the deliverables. Programs with a wide entry
  # point (wmain, wWinMain) add -municode themselves.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# lmx_plugin(NAME SOURCES...): a format plug-in DLL with its undecorated exports (.def file).
function(lmx_plugin name)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_libraries(${name} PRIVATE lmx_plugin_module lmx_common)
  target_link_options(${name} PRIVATE -Wl,--kill-at)
endfunction()
