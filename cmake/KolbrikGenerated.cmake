# The generators (part catalogue, part pictures, model library, previews)
# write files whose names only they know; each lists what it wrote in a
# stamp file. kolbrik_missing_check() makes the build look, on every run,
# for the files of such a list: when one is missing the generator's rule
# runs again and makes it anew. A rule that depends on the returned flag
# file stays clean while nothing is missing (the flag is then left alone and
# ninja restats it), so a build with nothing to do stays fast.
#
#   kolbrik_missing_check(NAME LIST stamp FOLDER dir [FROM .ext TO .ext])
#
# LIST holds paths relative to FOLDER, one a line; FROM/TO check the files
# made from them instead (a model's .bmp for its .kmf). Defines the target
# NAME and sets NAME_flag in the caller's scope.
function(kolbrik_missing_check name)
  cmake_parse_arguments(C "" "LIST;FOLDER;FROM;TO" "" ${ARGN})
  set(flag ${CMAKE_CURRENT_BINARY_DIR}/${name}.flag)
  add_custom_target(${name}
    COMMAND ${CMAKE_COMMAND} -DLIST=${C_LIST} -DFOLDER=${C_FOLDER} -DFROM=${C_FROM} -DTO=${C_TO}
            -DFLAG=${flag} -P ${PROJECT_SOURCE_DIR}/cmake/missingFiles.cmake
    BYPRODUCTS ${flag}
    COMMENT "Looking for missing files (${name})"
    VERBATIM)
  set(${name}_flag ${flag} PARENT_SCOPE)
endfunction()
