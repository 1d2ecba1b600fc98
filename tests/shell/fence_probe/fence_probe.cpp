// A stand-in input plugin for the start-up tests. The toolkit loads it into the
// built game while the application object is made, which is after main has
// (or has not) fenced the process in. It tries to create the file named after
// its key in QT_QPA_GENERIC_PLUGINS, says on standard error what happened,
// and ends the game there: 0 when the write was refused, 1 when it went
// through, 2 on any other failure.

#include <QFile>
#include <QGenericPlugin>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

class FenceProbe : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "fence_probe.json")

  public:
    QObject* create(const QString&, const QString& path) override {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const int error = fd < 0 ? errno : 0;
        const char* const outcome = fd >= 0 ? "written" : error == EACCES ? "refused" : "failed";
        std::fprintf(stderr, "fence probe: %s\n", outcome);
        std::fflush(stderr);
        std::_Exit(fd >= 0 ? 1 : error == EACCES ? 0 : 2);
    }
};

#include "fence_probe.moc"
