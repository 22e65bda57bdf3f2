# Install step for the template the program looks up in its data folder. The default always goes
# to DATA_FOLDER/default/Template.txt, where a user can copy it from. DATA_FOLDER/Template.txt
# is the template the program reads, and with a ~/.local prefix it is the user's own: it is
# written only when there is none, an existing one is kept and that is said. It is left out of
# install_manifest.txt, so that removing the files the manifest lists never deletes it either.
# Set before it runs: BRINDLEWICK_DEFAULT_TEMPLATE (the source file) and BRINDLEWICK_DATA_FOLDER
# (relative to the prefix).
set(folder "${CMAKE_INSTALL_PREFIX}/${BRINDLEWICK_DATA_FOLDER}")
file(INSTALL "${BRINDLEWICK_DEFAULT_TEMPLATE}" DESTINATION "${folder}/default")

set(template "$ENV{DESTDIR}${folder}/Template.txt")
if(EXISTS "${template}" OR IS_SYMLINK "${template}")
  message(STATUS "Keeping: ${template} (yours; the default is ${folder}/default/Template.txt)")
else()
  message(STATUS "Installing: ${template}")
  file(COPY_FILE "${BRINDLEWICK_DEFAULT_TEMPLATE}" "${template}")
endif()
