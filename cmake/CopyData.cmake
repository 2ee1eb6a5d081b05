# Copies the runtime data into the working folder. "ogre.cfg" is copied only
# when missing: the engine rewrites it with the user's dialog choices.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(file ${files})
  if(file MATCHES "\\.in$")
    continue()
  endif()
  if(file STREQUAL "ogre.cfg" AND EXISTS ${TARGET}/ogre.cfg)
    continue()
  endif()
  get_filename_component(dir ${TARGET}/${file} DIRECTORY)
  file(COPY ${SOURCE}/${file} DESTINATION ${dir})
endforeach()
