# Writes the suite's version source: the project version, and the git
# description when the sources are a git checkout. Run at every build; the
# file is only rewritten when its text changes, so nothing is rebuilt
# needlessly.
#   -DSOURCE_DIR=... -DOUTPUT=... -DPROJECT_VERSION=...
set(describe "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty --tags
                  WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE describe OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    set(describe "")
  endif()
endif()
set(text "// Generated at build time.\n#include \"version.h\"\n\nconst char* suite_version()\n{\n")
if(describe STREQUAL "")
  string(APPEND text "    return \"${PROJECT_VERSION}\";\n}\n")
else()
  string(APPEND text "    return \"${PROJECT_VERSION} (${describe})\";\n}\n")
endif()
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
else()
  set(old "")
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
