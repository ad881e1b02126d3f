#include "platform/core/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "platform/base/Cp932.h"

namespace wvr {
namespace {

constexpr const char* kOrganization = "brambly";
constexpr const char* kApplication = "wvr_2";

std::unique_ptr<QSettings> OpenStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication);
}

QString FromCp932(const std::string& bytes) { return QString::fromStdString(cp932::ToUtf8(bytes)); }

}  // namespace

RegistryKey::RegistryKey(std::unique_ptr<QSettings> settings, std::string group)
    : settings_(std::move(settings)), group_(std::move(group)) {}
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;

std::optional<RegistryKey> RegistryKey::Open(const std::string& subkey, bool create) {
    auto store = OpenStore();
    if (!create) {
        const bool exists = subkey.empty() ? !store->allKeys().isEmpty()
                                           : store->childGroups().contains(QString::fromStdString(subkey));
        if (!exists) return std::nullopt;
    }
    return RegistryKey(std::move(store), subkey);
}

bool RegistryKey::Delete(const std::string& subkey) {
    auto store = OpenStore();
    // Value by value: removing the group by its name would also remove a value of the same
    // name in the main key (the option bit "Filter" beside the subkey "Filter").
    store->beginGroup(QString::fromStdString(subkey));
    for (const QString& name : store->allKeys()) store->remove(name);
    store->endGroup();
    store->sync();
    return store->status() == QSettings::NoError;
}

std::string RegistryKey::Key(const std::string& name) const { return group_.empty() ? name : group_ + "/" + name; }

std::optional<int> RegistryKey::ReadInteger(const std::string& name) const {
    QVariant v = settings_->value(QString::fromStdString(Key(name)));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    int value = v.toString().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<std::string> RegistryKey::ReadString(const std::string& name) const {
    QVariant v = settings_->value(QString::fromStdString(Key(name)));
    if (!v.isValid() || !v.canConvert<QString>()) return std::nullopt;
    return cp932::FromUtf8(v.toString().toStdString());
}

bool RegistryKey::WriteInteger(const std::string& name, int value) {
    if (!settings_->isWritable()) return false;
    settings_->setValue(QString::fromStdString(Key(name)), value);
    return true;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value) {
    if (!settings_->isWritable()) return false;
    settings_->setValue(QString::fromStdString(Key(name)), FromCp932(value));
    return true;
}

std::optional<std::string> RegistryKey::ReadPath(const std::string& name) const {
    QVariant v = settings_->value(QString::fromStdString(Key(name)));
    if (!v.isValid() || !v.canConvert<QString>()) return std::nullopt;
    return QFile::encodeName(v.toString()).toStdString();
}

bool RegistryKey::WritePath(const std::string& name, const std::string& nativePath) {
    if (!settings_->isWritable()) return false;
    settings_->setValue(QString::fromStdString(Key(name)), QFile::decodeName(QByteArray::fromStdString(nativePath)));
    return true;
}

bool RegistryKey::Flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

std::string ConfigFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return (base + "/" + kOrganization + "/").toStdString();
}

std::string IniFilePath(const std::string& name) {
    if (QCoreApplication::instance()) {
        QString beside = QCoreApplication::applicationDirPath() + "/" + QString::fromStdString(name);
        if (QFileInfo::exists(beside)) return beside.toStdString();
    }
    return ConfigFolder() + name;
}

}  // namespace wvr
