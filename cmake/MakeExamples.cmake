# Writes the example data directory with vantrel-cli itself, from the texts in
# resources/examples: a level made from a forum post, a level with a counter,
# and a levelset for two players beside its three- and four-player variants.
#   cmake -DCLI=vantrel-cli -DSOURCE=resources/examples -DOUT=build/examples -P MakeExamples.cmake
# (-DEMULATOR=... runs a vantrel-cli built for another system: Wine for Windows.)
set(group ${OUT}/levels/vantrel_examples)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${group})

function(cli)
  execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "vantrel-cli ${ARGN} failed (${status}): ${err}")
  endif()
endfunction()

# levelinfo.conf of a level group (GROUP) or of a levelset of N levels from
# 001.level, so that the game reads them as they are numbered.
function(levelinfo dir name)
  set(text "name: ${name}\nauthor: Vantrel\n")
  if(ARGN STREQUAL "GROUP")
    string(APPEND text "level_group: true\n")
  else()
    string(APPEND text "levels: ${ARGN}\nfirst_level: 1\n")
  endif()
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/levelinfo.conf "${text}")
endfunction()

levelinfo(${group} "Vantrel examples" GROUP)

levelinfo(${group}/quote "A level from a forum post" 1)
cli(quote ${SOURCE}/quote-post.txt --out ${group}/quote)

levelinfo(${group}/counter "A level with a counter" 1)
cli(quote ${SOURCE}/counter-level.txt --out ${group}/counter)
cli(counter ${group}/counter/001.level --steps 10)

levelinfo(${group}/players2 "Two players" 2)
cli(quote ${SOURCE}/players-1.txt --out ${group}/players2)
cli(quote ${SOURCE}/players-2.txt --out ${group}/players2)
foreach(count 3 4)
  levelinfo(${group}/players${count} "The two-player levels for ${count} players" 2)
  file(COPY ${group}/players2/001.level ${group}/players2/002.level DESTINATION ${group}/players${count})
  cli(players ${count} ${group}/players${count})
endforeach()

# The backups the commands made are no part of the examples.
file(GLOB_RECURSE backups ${OUT}/*.bak)
if(backups)
  file(REMOVE ${backups})
endif()
