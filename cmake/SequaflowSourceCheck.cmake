# sequaflow_check_sources_listed(): stops the configure step when a .cpp file under src/ or tests/ (or a
# .h file under src/, whose library decides its layer) is not listed in any target. Sources are listed by
# hand in the CMakeLists.txt files; the glob here only finds the ones that were forgotten, and with
# CONFIGURE_DEPENDS a file added later re-runs this check on the next build.
# Call it from the top-level CMakeLists.txt after every add_subdirectory().

function(_sequaflow_collect_listed dir out)
  set(listed ${${out}})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(sources ${target} SOURCES)
    if(NOT sources)
      continue()
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    foreach(source ${sources})
      if(source MATCHES "^\\$<")
        continue()
      endif()
      get_filename_component(source ${source} ABSOLUTE BASE_DIR ${source_dir})
      list(APPEND listed ${source})
    endforeach()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    _sequaflow_collect_listed(${subdir} listed)
  endforeach()
  set(${out} ${listed} PARENT_SCOPE)
endfunction()

function(sequaflow_check_sources_listed)
  set(listed)
  _sequaflow_collect_listed(${PROJECT_SOURCE_DIR} listed)

  set(root ${PROJECT_SOURCE_DIR})
  set(patterns ${root}/src/*.cpp ${root}/src/*.h)
  if(SEQUAFLOW_BUILD_TESTS)
    list(APPEND patterns ${root}/tests/*.cpp)
  endif()
  if(TARGET sequaflow_bench)
    list(APPEND patterns ${root}/bench/*.cpp)
  endif()
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${patterns})
  if(NOT SEQUAFLOW_BUILD_GUI)
    list(FILTER found EXCLUDE REGEX "^${root}/(src|tests)/ui/")
  endif()

  set(missing)
  foreach(file ${found})
    if(NOT file IN_LIST listed)
      file(RELATIVE_PATH rel ${root} ${file})
      list(APPEND missing ${rel})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n    " missing_text)
    message(FATAL_ERROR
      "These source files are not listed in any target, so they would not be built:\n"
      "    ${missing_text}\n"
      "List each one in the add_library()/add_executable()/sequaflow_add_tests() of its layer or test "
      "directory (src/CMakeLists.txt, src/ui/CMakeLists.txt, tests/CMakeLists.txt, "
      "tests/ui/CMakeLists.txt, bench/CMakeLists.txt).")
  endif()
endfunction()
