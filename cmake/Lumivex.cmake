# Settings every target of the tree takes by linking lmx_options: the language level comes
# from the top CMakeLists.txt, everything else from here, so nothing is set globally.

add_library(lmx_options INTERFACE)
# Includes name their folder from the repository root ("ui/settings.h").
target_include_directories(lmx_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(lmx_options INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wno-unused-parameter>)

if(LUMIVEX_NATIVE)
  if(LUMIVEX_SANITIZE)
    target_compile_options(lmx_options INTERFACE
      -fsanitize=${LUMIVEX_SANITIZE} -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(lmx_options INTERFACE -fsanitize=${LUMIVEX_SANITIZE})
    # Pure code is instrumented for coverage-guided fuzzing; the fuzzer's main comes in at link.
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      target_compile_options(lmx_options INTERFACE -fsanitize=fuzzer-no-link)
    endif()
  endif()
else()
  target_compile_definitions(lmx_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  target_compile_options(lmx_options INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-Wno-cast-function-type>)
  # The C runtime is Wine's msvcrt, whose memcpy and memset cost several times glibc's on short
  # lengths: short copies and fills of unknown length are inlined, long ones call the runtime.
  # (Measured on the plug-ins against the libraries' setting, tools/third_party/prepare.sh,
  # which inlines all of them: a 24-bit BMP 17.7 ms against 21.2, RLE8 8.9 against 10.9.)
  target_compile_options(lmx_options INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:-minline-stringops-dynamically>)
  # No mingw runtime DLL may be needed beside the deliverables. Programs with a wide entry
  # point (wmain, wWinMain) add -municode themselves.
  target_link_options(lmx_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# lmx_plugin(NAME SOURCES...): a format plug-in DLL with its undecorated exports (.def file).
function(lmx_plugin name)
  add_library(${name} SHARED ${ARGN} ${PROJECT_SOURCE_DIR}/plugins/common/plugin.def)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_libraries(${name} PRIVATE lmx_plugin_module lmx_common lmx_options)
  target_link_options(${name} PRIVATE -Wl,--kill-at)
endfunction()
