// A help or tips document written to a temporary folder and opened with the
// help viewer installed; the document and the shared frames go afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/common_library.h"
#include "controls/frame_services.h"
#include "controls/help_doc.h"
#include "support/temp_dir.h"

class HelpDocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale", nullptr);
    InstallHelpViewer();
  }
  void TearDown() override {
    CloseHelpDocument(doc_);
    ReleaseSharedHelpFrames();
    FrameServicesTable() = FrameServices();
    ShutdownCommonLibrary();
  }
  HelpDoc* Open(const char* name, const char* content, unsigned flags) {
    const std::string path = dir_.File(name);
    testing_support::WriteWholeFile(path, content);
    doc_ = OpenHelpDocument(path.c_str(), flags & kHelpTipsStyle ? 8001 : kHelpPaneResourceId, flags);
    return doc_;
  }

  testing_support::TempDir dir_;
  HelpDoc* doc_ = nullptr;
};
