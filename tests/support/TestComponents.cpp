#include "TestComponents.h"

#include <new>

namespace brindlewick::test {

namespace {

[[noreturn]] void failAs(const QString& source) {
    throw ComponentError(injectedFailure(source));
}

class RecordingLogger final : public ErrorLogger {
  public:
    RecordingLogger(LogRecords records, FailOn failOn)
        : records_(std::move(records)), failOn_(failOn) {}

    void LogMessage(QString& message, const ErrorInfo* error, qint32& level,
                    qint32& mask) override {
        records_->append({message, error ? std::optional(*error) : std::nullopt, level, mask});
        const bool fail =
            failOn_ == FailOn::EveryCall || (failOn_ == FailOn::FirstCall && records_->size() == 1);
        if (fail) {
            failAs(QStringLiteral("TestLogger"));
        }
    }

  private:
    LogRecords records_;
    FailOn failOn_;
};

class SilentLogger final : public ErrorLogger {
  public:
    void LogMessage(QString&, const ErrorInfo*, qint32&, qint32&) override {}
};

class FixedPathService final : public FilePathService {
  public:
    explicit FixedPathService(QString path) : path_(std::move(path)) {}
    void ResolvePath(QString&, QString&, QString& result) override { result = path_; }

  private:
    QString path_;
};

class FailingConverter final : public TextConversionService {
  public:
    void ConvertText(QString, QString&) override { failAs(QStringLiteral("TestConverter")); }
};

class FailingEngine final : public TemplateEngine {
  public:
    explicit FailingEngine(EngineFailure when) : when_(when) {}
    void Render(QStringList&, QString& result) override {
        if (when_ == EngineFailure::AtRender) {
            failAs(QStringLiteral("TestEngine.Render"));
        }
        result = QStringLiteral("rendered");
    }
    void LoadTemplate(QString&, QString&) override {
        if (when_ == EngineFailure::AtLoad) {
            failAs(QStringLiteral("TestEngine.LoadTemplate"));
        }
    }

  private:
    EngineFailure when_;
};

class UnreadableStream final : public TextStream {
  public:
    explicit UnreadableStream(FileFailure when) : when_(when) {}
    QString ReadAll() override {
        if (when_ == FileFailure::OutOfMemoryAtRead) {
            throw std::bad_alloc();
        }
        failAs(QStringLiteral("TestStream.ReadAll"));
    }
    void Close() override {}

  private:
    FileFailure when_;
};

class FailingFileSystem final : public FileSystemObject {
  public:
    explicit FailingFileSystem(FileFailure when) : when_(when) {}
    std::unique_ptr<TextStream> OpenTextFile(const QString&, qint32, bool, qint32) override {
        if (when_ == FileFailure::AtOpen) {
            failAs(QStringLiteral("TestFileSystem.OpenTextFile"));
        }
        return std::make_unique<UnreadableStream>(when_);
    }

  private:
    FileFailure when_;
};

}  // namespace

ErrorInfo injectedFailure(const QString& source) {
    return {static_cast<int>(ErrorNumber::ComponentFailure),
            QStringLiteral("Injected failure in %1").arg(source), source};
}

LogRecords installRecordingLogger(FailOn failOn) {
    auto records = std::make_shared<QList<LogRecord>>();
    Components::setErrorLoggerFactory(
        [records, failOn] { return std::make_unique<RecordingLogger>(records, failOn); });
    return records;
}

void installSilentLogger() {
    Components::setErrorLoggerFactory([] { return std::make_unique<SilentLogger>(); });
}

void installTemplatePath(const QString& path) {
    Components::setFilePathServiceFactory(
        [path] { return std::make_unique<FixedPathService>(path); });
}

void installUncreatableLogger() {
    Components::setErrorLoggerFactory(
        []() -> std::unique_ptr<ErrorLogger> { failAs(QStringLiteral("TestLoggerFactory")); });
}

void installFailingConverter() {
    Components::setTextConversionServiceFactory(
        [] { return std::make_unique<FailingConverter>(); });
}

void installFailingEngine(EngineFailure when) {
    Components::setTemplateEngineFactory([when] { return std::make_unique<FailingEngine>(when); });
}

void installFailingFileSystem(FileFailure when) {
    Components::setFileSystemObjectFactory(
        [when] { return std::make_unique<FailingFileSystem>(when); });
}

}  // namespace brindlewick::test
