#include "platform/InstanceChannel.h"

#include <QDataStream>
#include <QLocalSocket>

namespace {

// Each request is this number, then the files as a list of byte strings (paths as the file system
// has them).
constexpr quint32 kOpenRequest = 0x53504e31;  // "SPN1"

QString socketName(const std::filesystem::path& socket) {
    return QString::fromStdString(socket.string());
}

}  // namespace

InstanceServer::InstanceServer(Request request) : request_(std::move(request)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&server_, &QLocalServer::newConnection, [this] { accept(); });
}

std::string InstanceServer::listen(const std::filesystem::path& socket) {
    QLocalServer::removeServer(socketName(socket));
    if (!server_.listen(socketName(socket))) {
        return "cannot listen at " + socket.string() + ": " + server_.errorString().toStdString();
    }
    return {};
}

void InstanceServer::accept() {
    while (QLocalSocket* connection = server_.nextPendingConnection()) {
        QObject::connect(connection, &QLocalSocket::disconnected, connection,
                         &QObject::deleteLater);
        QObject::connect(connection, &QLocalSocket::readyRead, connection, [this, connection] {
            QDataStream in(connection);
            in.startTransaction();
            quint32 kind = 0;
            QList<QByteArray> paths;
            in >> kind >> paths;
            if (!in.commitTransaction()) {
                return;  // the rest is on its way
            }
            connection->disconnectFromServer();
            if (kind != kOpenRequest) {
                return;
            }
            std::vector<std::string> files;
            for (const QByteArray& path : paths) {
                files.push_back(path.toStdString());
            }
            request_(files);
        });
    }
}

bool askRunningInstance(const std::filesystem::path& socket, const std::vector<std::string>& files,
                        int timeoutMs) {
    QLocalSocket connection;
    connection.connectToServer(socketName(socket));
    if (!connection.waitForConnected(timeoutMs)) {
        return false;
    }
    QList<QByteArray> paths;
    for (const std::string& file : files) {
        paths.append(QByteArray::fromStdString(file));
    }
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << kOpenRequest << paths;
    connection.write(request);
    if (!connection.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The server hangs up once it has read the whole request.
    return connection.state() == QLocalSocket::UnconnectedState ||
           connection.waitForDisconnected(timeoutMs);
}
