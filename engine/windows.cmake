# The engine modules as Windows DLLs (included by CMakeLists.txt in a
# Windows build): the same bundle object lists as on Linux without the
# Linux-only additions, plus the bundle's version resource (windres) and
# the library's own .def file for the exports. The extract-only module is
# 7z.dll, the name the extractor writes it under; the read-write one is
# built only for what needs it.

set(engine_compile_options -O2 -fstack-protector-strong)
set(engine_defines NDEBUG _REENTRANT)
# The stack protector's runtime comes in through the link line too;
# --enable-stdcall-fixup binds the .def's undecorated names to the
# __stdcall exports.
set(engine_link_options -s -fstack-protector-strong -Wl,--enable-stdcall-fixup)
set(engine_system_libs oleaut32 uuid advapi32 user32 ole32)

enable_language(RC)

function(coffer_engine_module target bundle output_name)
  coffer_engine_bundle(mod ${bundle})
  set(rc ${COFFER_ENGINE_SOURCE}/CPP/7zip/Bundles/${bundle}/resource.rc)
  get_filename_component(rc_dir ${rc} DIRECTORY)
  add_library(${target} SHARED ${mod_SOURCES} ${rc} ${def_file})
  # The resource script names its icon relative to its own folder.
  set_source_files_properties(${rc} PROPERTIES INCLUDE_DIRECTORIES ${rc_dir})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${output_name} SUFFIX .dll
    CXX_STANDARD 17 CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${engine_compile_options}>)
  target_compile_definitions(${target} PRIVATE ${engine_defines} ${mod_DEFINES})
  target_link_options(${target} PRIVATE ${engine_link_options})
  target_link_libraries(${target} PRIVATE ${engine_system_libs})
endfunction()

coffer_engine_module(coffer_engine_extract Format7zExtract 7z)
coffer_engine_module(coffer_engine_rw Format7z coffer_engine_rw)
set_target_properties(coffer_engine_rw PROPERTIES EXCLUDE_FROM_ALL ON)

# The module may import system DLLs only (it is loaded from a bare working
# folder), and must export the entry points the binding calls.
add_custom_command(TARGET coffer_engine_extract POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DMODULE=$<TARGET_FILE:coffer_engine_extract>
          -P ${CMAKE_CURRENT_SOURCE_DIR}/check-dll.cmake
  VERBATIM)
