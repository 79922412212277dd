# Compiler settings shared by every target of the project.

add_library(vexscan_build_flags INTERFACE)
target_compile_options(vexscan_build_flags INTERFACE -Wall -Wextra -Wpedantic)
if(VEXSCAN_WERROR)
  target_compile_options(vexscan_build_flags INTERFACE -Werror)
endif()

if(VEXSCAN_SANITIZE)
  target_compile_options(vexscan_build_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(vexscan_build_flags INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows binaries carry their C and C++ runtime inside, so they import system DLLs only.
  target_link_options(vexscan_build_flags INTERFACE -static -static-libgcc -static-libstdc++)
else()
  set(CMAKE_CXX_VISIBILITY_PRESET hidden)
  set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
endif()

# vexscan_windows_module(target DEF_FILE) — a Windows DLL whose exports, names and ordinals come
# from a .def file; on Linux a shared library that exports only what is marked for export.
function(vexscan_module_exports target def_file)
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
endfunction()
