# Compiler warnings and the sanitizer build, applied to every Kivamo target through kivamo_options.
add_library(kivamo_options INTERFACE)
target_compile_options(kivamo_options INTERFACE -Wall -Wextra)
target_compile_definitions(kivamo_options INTERFACE
  KIVAMO_VERSION="${PROJECT_VERSION}")
if(KIVAMO_SANITIZE)
  target_compile_options(kivamo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(kivamo_options INTERFACE -fsanitize=address,undefined)
endif()

# Collects the sources of one target from its folders; new files join on the next build.
function(kivamo_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
      "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.ui")
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
