# Precompiled headers: most of a compile here is GCC reading the same Qt headers again, so with
# BRASKO_PCH each group of targets reads them once. Off by default, since ccache cannot reuse
# compiles that take a precompiled header; CI, which starts from an empty cache, turns it on.
#
# GCC takes a precompiled header only where every macro given on the command line matches the
# one it was made with, and silently falls back to the full headers otherwise; -Winvalid-pch makes
# that fall-back a warning, hence an error with BRASKO_WERROR. So the headers are shared only
# between targets whose macros agree: the layers' own (brasko_strict), and the tests of one folder
# (Qt's test macros name the folder).
option(BRASKO_PCH "Precompile the Qt headers most files include" OFF)
if(NOT BRASKO_PCH)
  return()
endif()
target_compile_options(brasko_common INTERFACE -Winvalid-pch)

set(BRASKO_PCH_CORE
  <QString> <QStringList> <QStringView> <QList> <QHash> <QLocale> <QDateTime> <QVariant> <QDir>
  <QFileInfo> <QRegularExpression> <algorithm> <functional> <memory> <optional> <vector>)
set(BRASKO_PCH_WIDGETS ${BRASKO_PCH_CORE}
  <QApplication> <QWidget> <QDialog> <QLabel> <QLineEdit> <QPushButton> <QCheckBox> <QGroupBox>
  <QMessageBox> <QVBoxLayout> <QHBoxLayout> <QGridLayout> <QHeaderView> <QTableView> <QPainter>
  <QPointer> <QTimer> <QFileDialog>)
set(BRASKO_PCH_TESTS
  <QTest> <QSignalSpy> <QCoreApplication> <QSqlDatabase> <QSqlQuery> <QSqlError> <QFile> <QDir>
  <QTemporaryDir> <QProcess> <QTimer> <functional> <memory> <optional>)
set(BRASKO_PCH_GUI_TESTS ${BRASKO_PCH_TESTS}
  <QApplication> <QLabel> <QLineEdit> <QPushButton> <QTableView> <QMessageBox>)
