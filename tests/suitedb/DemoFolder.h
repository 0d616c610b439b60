#pragma once

#include <QTemporaryDir>

#include "SuiteSetup.h"

// A temporary folder set up as zqfu-setup leaves it: settings file and demo database.
class DemoFolder {
    QTemporaryDir m_dir;

public:
    DemoFolder() {
        if (!m_dir.isValid()) qFatal("no temporary folder");
        SuiteSetup::run(m_dir.path());
    }
    QString path() const { return m_dir.path(); }
    QString database() const {
        return m_dir.filePath(QLatin1String(SuiteSetup::DemoCatalogue) + QLatin1String(".zqdb"));
    }
};
