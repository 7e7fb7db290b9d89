#include "facade/DictionaryFactory.h"

#include "dictionaries/MainDictionary.h"

std::unique_ptr<CDictionary> CDictionaryFactory::CreateMainDictionary(int id,
                                                                      const std::string& appPath) {
  return std::make_unique<CMainDictionary>(id, appPath + CMainDictionary::kFileName);
}
