# The help guide and the manual pages, built from their sources in resources/.
#
# Help guide: the Markdown pages of resources/help become HTML in ${KESTREL_HELP_BUILD_DIR} with
# scripts/help-html.py, which needs Debian's python3 with python3-markdown. Its pictures are the
# program's own: scripts/help-bitmaps.py writes BMP files, and kestrel-cli turns each into the
# printer's dots with "logo preview".
#
# Manual pages: resources/man/*.1.scd become roff with scdoc (Debian package scdoc), compressed
# with gzip -9n as Debian installs them.

# python3-markdown installs into Debian's own python3; a python3 earlier in PATH (a virtual
# environment, pyenv) usually lacks it.
find_program(KESTREL_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(KESTREL_PYTHON3 python3)
if(NOT KESTREL_PYTHON3)
  message(FATAL_ERROR "The help guide needs python3 (Debian package python3)")
endif()
execute_process(COMMAND ${KESTREL_PYTHON3} -c "import markdown"
  RESULT_VARIABLE kestrel_markdown_missing OUTPUT_QUIET ERROR_QUIET)
if(kestrel_markdown_missing)
  message(FATAL_ERROR "The help guide needs Python-Markdown for ${KESTREL_PYTHON3} "
    "(Debian package python3-markdown)")
endif()
# scdoc (Debian package scdoc) turns the manual pages into roff.
find_program(KESTREL_SCDOC scdoc REQUIRED)
# gzip (Debian package gzip, always installed) compresses them.
find_program(KESTREL_GZIP gzip REQUIRED)

set(help_source ${CMAKE_SOURCE_DIR}/resources/help)
set(help_images ${KESTREL_HELP_BUILD_DIR}/images)
set(help_bitmaps ${CMAKE_BINARY_DIR}/help-bitmaps)

# The pages, as contents.txt lists them.
file(STRINGS ${help_source}/contents.txt help_pages REGEX "^[^#].*\\.md$")
set(help_page_sources)
set(help_page_outputs ${KESTREL_HELP_BUILD_DIR}/kestrel.css)
foreach(page ${help_pages})
  string(REGEX REPLACE "\\.md$" ".html" html ${page})
  list(APPEND help_page_sources ${help_source}/${page})
  list(APPEND help_page_outputs ${KESTREL_HELP_BUILD_DIR}/${html})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${help_source}/contents.txt)
add_custom_command(OUTPUT ${help_page_outputs}
  COMMAND ${KESTREL_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/help-html.py ${help_source}
    ${KESTREL_HELP_BUILD_DIR} ${PROJECT_VERSION}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/help-html.py ${help_source}/contents.txt
    ${help_source}/kestrel.css ${help_page_sources}
  COMMENT "Help guide: HTML pages"
  VERBATIM)

# The BMP files, and each as it looks on screen.
set(help_bitmap_names photo photo-palette grey-ramp shop-sign)
set(help_bitmap_files)
set(help_original_pictures)
foreach(name ${help_bitmap_names})
  list(APPEND help_bitmap_files ${help_bitmaps}/${name}.bmp)
  list(APPEND help_original_pictures ${help_images}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${help_bitmap_files} ${help_original_pictures}
  COMMAND ${KESTREL_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/help-bitmaps.py ${help_bitmaps}
    ${help_images}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/help-bitmaps.py
  COMMENT "Help guide: logo bitmaps"
  VERBATIM)

# Each printed as the printer prints it: NAME-mono.png, NAME-two.png.
set(help_printed_pictures)
foreach(print photo:mono grey-ramp:mono shop-sign:mono shop-sign:two photo-palette:two)
  string(REPLACE ":" ";" print ${print})
  list(GET print 0 name)
  list(GET print 1 form)
  set(two_color)
  if(form STREQUAL "two")
    set(two_color --two-color)
  endif()
  set(picture ${help_images}/${name}-${form}.png)
  add_custom_command(OUTPUT ${picture}
    COMMAND kestrel-cli logo preview ${help_bitmaps}/${name}.bmp ${two_color} --output ${picture}
    DEPENDS kestrel-cli ${help_bitmaps}/${name}.bmp
    COMMENT "Help guide: ${name} printed (${form})"
    VERBATIM)
  list(APPEND help_printed_pictures ${picture})
endforeach()

add_custom_target(kestrel_help ALL
  DEPENDS ${help_page_outputs} ${help_original_pictures} ${help_printed_pictures})

# Manual pages.
set(man_pages)
foreach(page kestrel.1 kestrel-cli.1)
  set(source ${CMAKE_SOURCE_DIR}/resources/man/${page}.scd)
  set(roff ${CMAKE_BINARY_DIR}/man/${page})
  add_custom_command(OUTPUT ${roff}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "\"$1\" < \"$2\" > \"$3\" && \"$4\" -9nkf \"$3\"" sh
      ${KESTREL_SCDOC} ${source} ${roff} ${KESTREL_GZIP}
    DEPENDS ${source}
    COMMENT "Manual page ${page}"
    VERBATIM)
  list(APPEND man_pages ${roff}.gz)
endforeach()
add_custom_target(kestrel_man ALL DEPENDS ${man_pages})
set(KESTREL_MAN_PAGES ${man_pages})
