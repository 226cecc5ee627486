#pragma once

// AboutDialog, the about window: the product, its version and the maker's contact on two tabs, a
// picture with transitions ("Animate!"), and the launcher of the system information tool.
//
// The registry it reads, the way it starts the tool and the way it shows its message are
// replaceable, so the launcher can be exercised without a registry, a tool or a modal box.

#include <QDialog>

#include <functional>
#include <memory>

class BitmapDisplayer;
class QLabel;
class QPushButton;
class QTabWidget;
class RegistrySource;

class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    // Shown modally with exec(); the window loads (first tab, caption, version) here.
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    // Launches the system information tool, or says that it is unavailable.
    void StartSysInfo();

    // Reads one registry value as text; see GetKeyValue in core/registry.h.
    bool GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal);

    void setRegistrySource(std::unique_ptr<RegistrySource> source);
    RegistrySource *registrySource() const { return m_registry.get(); }
    // Starts the program at the path, without waiting; false when it could not be started.
    void setProgramStarter(std::function<bool(const QString &path)> start)
    {
        m_startProgram = std::move(start);
    }
    // Shows a message with an OK button.
    void setMessageShower(std::function<void(const QString &text, const QString &title)> show)
    {
        m_showMessage = std::move(show);
    }

    // Presses of "Animate!" counted since the cycle last started over.
    int animatePresses() const { return m_animatePresses; }

public Q_SLOTS:
    void animate();
    void showSystemInfo();
    void closeDialog();

private:
    void load();
    void buildAuthorTab(QWidget *page);
    void buildProgramTab(QWidget *page);
    bool startTool(const QString &path);

    std::unique_ptr<RegistrySource> m_registry;
    std::function<bool(const QString &)> m_startProgram;
    std::function<void(const QString &, const QString &)> m_showMessage;
    qint16 m_animatePresses = 0;

    QTabWidget *m_sstab1 = nullptr;
    BitmapDisplayer *m_displayer = nullptr;
    QLabel *m_lblver = nullptr;
};
