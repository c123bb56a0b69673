# The release archive holds exactly these files, each the one the checkout or the win32 build
# holds, so the programs in it are those shipped_module and shipped_tool check.
#   -DARCHIVE=zip -DSOURCE=checkout
set(shipped CHANGELOG.md Tarnell_MFP.dll Tarnell_MFP.ini USER_GUIDE.md images/config_dialog.png
            images/config_picker.png images/picker_search.png mfp.exe)
set(sources CHANGELOG.md build/win32/bin/Tarnell_MFP.dll docs/examples/Tarnell_MFP.ini docs/USER_GUIDE.md
            docs/images/config_dialog.png docs/images/config_picker.png docs/images/picker_search.png
            build/win32/bin/mfp.exe)
if(NOT EXISTS ${ARCHIVE})
  message(FATAL_ERROR "${ARCHIVE} is missing: bash scripts/release.sh makes it")
endif()
set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/release_archive)
file(REMOVE_RECURSE ${unpacked})
file(ARCHIVE_EXTRACT INPUT ${ARCHIVE} DESTINATION ${unpacked})
file(GLOB_RECURSE names LIST_DIRECTORIES false RELATIVE ${unpacked} ${unpacked}/*)
list(SORT names)
if(NOT names STREQUAL shipped)
  message(FATAL_ERROR "${ARCHIVE} holds ${names}, not ${shipped}")
endif()
foreach(name source IN ZIP_LISTS shipped sources)
  file(SHA256 ${unpacked}/${name} packed)
  file(SHA256 ${SOURCE}/${source} current)
  if(NOT packed STREQUAL current)
    message(SEND_ERROR "${name} differs from ${source}: make the archive again (bash scripts/release.sh)")
  endif()
endforeach()
