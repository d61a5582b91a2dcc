# The Windows program's icon, manifest and version resource, and a link that
# needs no DLL beside the .exe.
enable_language(RC)

set(windows_dir ${PROJECT_SOURCE_DIR}/src/front_end/windows)
set(version_header ${PROJECT_BINARY_DIR}/generated/gmkconv_version.h)
configure_file(${windows_dir}/version.h.in ${version_header} @ONLY)

target_sources(gmkconv PRIVATE ${windows_dir}/gmkconv.rc)
target_include_directories(gmkconv PRIVATE ${PROJECT_BINARY_DIR}/generated)
if(MSVC)
    target_sources(gmkconv PRIVATE ${windows_dir}/gmkconv.manifest)
else()
    target_compile_definitions(gmkconv PRIVATE GMKCONV_MANIFEST_IN_RC)
    target_link_options(gmkconv PRIVATE -static)
endif()
# The resource compiler reports no dependencies: a new icon, manifest or
# version must still rebuild the resources.
set_source_files_properties(${windows_dir}/gmkconv.rc PROPERTIES
    OBJECT_DEPENDS "${windows_dir}/gmkconv.ico;${windows_dir}/gmkconv.manifest;${version_header}")
