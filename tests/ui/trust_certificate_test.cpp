// A device server with a certificate no authority vouches for: the window shows its subject
// and fingerprint once, and trusts it for that address, per user, only when told to.
#include "ui/user_preferences.h"
#include "window_fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <cstdlib>

namespace pravenor::test {
namespace {

TEST_F(WindowTest, AnUnknownCertificateIsShownOnceAndTrustedForItsAddressWhenTheUserSaysSo)
{
    const std::string key = (folder / "key.pem").string();
    const std::string cert = (folder / "cert.pem").string();
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
                             "/CN=plant-server -addext subjectAltName=IP:127.0.0.1 -keyout " +
                             key + " -out " + cert + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        GTEST_SKIP() << "openssl cannot make a certificate here";
    QFile certFile(QString::fromStdString(cert));
    QFile keyFile(QString::fromStdString(key));
    ASSERT_TRUE(certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(certFile.readAll(), QSsl::Pem);
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(certificate);
    config.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem));
    QSslServer server;
    server.setSslConfiguration(config);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const std::string address = "tcp+tls://127.0.0.1:" + std::to_string(server.serverPort());

    load({}, address);
    auto asked = [&] {
        QApplication::processEvents();
        window->ledTick();
        return window->findChild<QMessageBox*>("TrustCertificate");
    };
    ASSERT_TRUE(tickUntil([&] { return asked() != nullptr; }, 4000));
    const std::string fingerprint =
        "SHA256:" + certificate.digest(QCryptographicHash::Sha256).toHex().toUpper().toStdString();
    const std::string text = openBox()->text().toStdString();
    EXPECT_NE(text.find("plant-server"), std::string::npos) << text;
    EXPECT_NE(text.find(fingerprint), std::string::npos) << text;
    answer(QMessageBox::Yes);
    const ui::UserPreferences kept(QString::fromStdString((folder / "user.conf").string()));
    EXPECT_EQ(kept.trustedCertificates(),
              (std::map<std::string, std::string>{{address, fingerprint}}));
    // Pinned for its address from now on: the next try of the port gets through.
    EXPECT_TRUE(tickUntil(
        [&] {
            QApplication::processEvents();
            return program->port.PortIsOpen() == 1;
        },
        4000));
    EXPECT_EQ(asked(), nullptr);
}

} // namespace
} // namespace pravenor::test
