#include "utilcore/StorageException.h"

#include <utility>

CStorageException::CStorageException(std::string fileName, std::string message)
    : m_fileName(std::move(fileName)), m_message(std::move(message)) {}
