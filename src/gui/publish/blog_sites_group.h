// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

#include "core/publish/blog_sites.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace veyla::gui {

// The "发布" group of "更多设置": the site type ("网站类型："), the list of
// sites ("选择网站："), the address ("网站名称："), user ("用户名：") and
// password ("密码：") fields, "接受自签名证书", and "添加网站", which asks for
// a name and appends a site made from the fields. Choosing a site fills the
// fields; editing the fields changes the chosen site.
class BlogSitesGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit BlogSitesGroup(publish::BlogSiteList sites, QWidget* parent = nullptr);

    // The list as edited, the chosen site selected.
    publish::BlogSiteList sites() const;
    // Appends a site named name from the fields and chooses it; false (and
    // nothing added) for an empty or taken name.
    bool addSite(const QString& name);

private:
    void showSite(int index);
    void storeFields();
    publish::BlogSite siteFromFields() const;

    publish::BlogSiteList m_sites;
    QComboBox* m_type = nullptr;
    QComboBox* m_choice = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_selfSigned = nullptr;
    bool m_filling = false;
};

}  // namespace veyla::gui
