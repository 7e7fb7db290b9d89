#include "checking/ProjectCheckWorker.h"

#include "checking/BadWordsList.h"
#include "mtcore/MTWorkerThread.h"
#include "projects/HTMLFile.h"
#include "projects/HTMLFileList.h"

#include <utility>

const UINT CProjectCheckWorker::MSG_PROJECT_CHECK_BEGIN =
    RegisterWindowMessageA("BF879BBA-20FD-4413-95AD-89A65213F2B9");
const UINT CProjectCheckWorker::MSG_PROJECT_FILE_CHECKED =
    RegisterWindowMessageA("F824F634-6922-44f5-82EE-4228E9796DB1");
const UINT CProjectCheckWorker::MSG_PROJECT_CHECK_DONE =
    RegisterWindowMessageA("00F58EEC-E32D-420e-AD29-0ABF9475CA6F");

CProjectCheckWorker::CProjectCheckWorker(LPARAM project, CHTMLFileList* fileList,
                                         CBadWordsList* badWords, HWND targetWindow,
                                         std::string root, std::vector<CProjectFilter> filters,
                                         std::vector<int> dictionaryIds, std::string projectName)
    : m_project(project), m_fileList(fileList), m_badWords(badWords), m_targetWindow(targetWindow),
      m_root(std::move(root)), m_filters(std::move(filters)),
      m_dictionaryIds(std::move(dictionaryIds)), m_projectName(std::move(projectName)),
      m_mutex(false, "zeb_plt_mutex") {}

CProjectCheckWorker::~CProjectCheckWorker() = default;

void CProjectCheckWorker::SetWorkerThread(CMTWorkerThread* thread) {
  if (thread != nullptr) {
    thread->AddStopEvent(m_stopEvents);
  }
  m_thread.store(thread, std::memory_order_release);
}

void CProjectCheckWorker::Run() {}

void CProjectCheckWorker::CheckProjectFile(CHTMLFile* /*file*/) {}

bool CProjectCheckWorker::ScanLine(const std::string& /*line*/, CHTMLFile* /*file*/,
                                   int /*lineIndex*/) {
  return true;
}

void CProjectCheckWorker::BlankAddresses(std::string& /*line*/) {}

void CProjectCheckWorker::RecordBadWord(const std::string& /*word*/, int /*lineIndex*/,
                                        int /*start*/, int /*end*/, std::string /*context*/,
                                        CHTMLFile* /*file*/) {}

void CProjectCheckWorker::SetParallelism(int threads) {
  m_parallelism = threads < 1 ? 1 : threads;
}

WPARAM CProjectCheckWorker::MakeProgressParam(int total, int done) {
  const auto high = static_cast<WPARAM>(static_cast<unsigned>(total) & 0xFFFFU);
  const auto low = static_cast<WPARAM>(static_cast<unsigned>(done) & 0xFFFFU);
  return (high << 16) | low;
}
