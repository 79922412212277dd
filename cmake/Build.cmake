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

# vexscan_module_exports(target DEF_FILE): on Windows, the DLL's export names and ordinals come
# from the .def file. The files are written for 32-bit Windows, where each plain name stands for
# its __stdcall symbol ("PMReset = PMReset@0"); 64-bit Windows has no such decoration, so the
# 64-bit build (used to run the tests where Wine cannot start 32-bit programs) links a copy whose
# aliases name the undecorated symbols.
function(vexscan_module_exports target def_file)
  if(NOT WIN32)
    return()
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_sources(${target} PRIVATE ${def_file})
    # A plain name in the .def may also stand for its decorated __stdcall symbol.
    target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  else()
    get_filename_component(name ${def_file} NAME)
    file(READ ${def_file} text)
    string(REGEX REPLACE "= *([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "= \\1" text "${text}")
    set(plain ${CMAKE_CURRENT_BINARY_DIR}/${target}-64/${name})
    file(WRITE ${plain} "${text}")
    target_sources(${target} PRIVATE ${plain})
  endif()
endfunction()
