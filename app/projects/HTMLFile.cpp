#include "projects/HTMLFile.h"

CHTMLFile::CHTMLFile(std::string_view fullPath, bool checkPending)
    : CDiskFile(fullPath), m_checkPending(checkPending) {}

CHTMLFile::~CHTMLFile() = default;
