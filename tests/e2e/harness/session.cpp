#include "session.h"

namespace kivo::e2e {

Session::Session(const Face& face, bool withWindowManager, const std::string& folderLabel,
                 ScreenSize screen)
    : folder_(face, folderLabel) {
    display_ = std::make_unique<VirtualDisplay>(folder_.logs(), withWindowManager,
                                                face.environment(folder_), screen);
    x_ = std::make_unique<XClient>(display_->name());
}

Session::~Session() {
    kivo_.reset();
    face().endSession(folder_, display_->name());
    x_.reset();
    display_.reset();
}

void Session::startKivo() {
    kivo_.reset();
    ProcessOptions options;
    options.argv = face().command(folder_);
    options.env = face().environment(folder_);
    options.env.push_back("DISPLAY=" + displayName());
    options.logPath = (folder_.logs() / "kivo.log").string();
    startedAt_ = std::chrono::steady_clock::now();
    kivo_ = std::make_unique<Process>(options);
}

} // namespace kivo::e2e
