# Warnings and Qt safety macros shared by every target of the project.
add_library(brasko_common INTERFACE)
target_compile_options(brasko_common INTERFACE -Wall -Wextra)
# CI builds with warnings as errors, so a new warning cannot land.
option(BRASKO_WERROR "Treat compiler warnings as errors" OFF)
if(BRASKO_WERROR)
  target_compile_options(brasko_common INTERFACE -Werror)
endif()
# The program's own code also takes Qt's strict string and keyword rules; tests are spared them so
# table rows can be written as plain literals.
add_library(brasko_strict INTERFACE)
target_compile_definitions(brasko_strict INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_USE_QSTRINGBUILDER
  QT_NO_FOREACH
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
)
if(BRASKO_SANITIZE)
  target_compile_options(brasko_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(brasko_common INTERFACE -fsanitize=address,undefined)
endif()
