# Run by the target `sequaflow_layer_includes` (see SequaflowLayerCheck.cmake):
#   cmake -DMANIFEST=<manifest.cmake> -DSTAMP=<stamp file> -P SequaflowLayerCheckRun.cmake
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})

set(violations)
math(EXPR last "${layer_count} - 1")
foreach(index RANGE ${last})
  set(target ${layer_${index}_name})
  foreach(source ${layer_${index}_sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
      list(FIND layer_headers ${header} at)
      if(at EQUAL -1)
        continue()
      endif()
      list(GET layer_owners ${at} owner)
      if(NOT owner IN_LIST layer_${index}_allowed)
        file(RELATIVE_PATH rel ${layer_root} ${source})
        list(APPEND violations "${rel} (${target}) includes ${header} of ${owner}, which ${target} does not link")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n    " text)
  message(FATAL_ERROR "Layer order broken:\n    ${text}\n"
                      "A layer may include only its own headers and those of the layers below it "
                      "(base <- link <- live <- model <- operations <- i18n, sim, cli <- ui).")
endif()
file(TOUCH ${STAMP})
