// SPDX-License-Identifier: MIT
#include "gui/publish/blog_sites_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {

QString qt(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

}  // namespace

BlogSitesGroup::BlogSitesGroup(publish::BlogSiteList sites, QWidget* parent)
    : QGroupBox(u"发布"_s, parent), m_sites(std::move(sites))
{
    m_type = new QComboBox(this);
    m_type->setObjectName(u"blogType"_s);
    m_type->addItems({u"Wordpress"_s, u"MetaWeblog"_s});
    m_choice = new QComboBox(this);
    m_choice->setObjectName(u"blogChoice"_s);
    for (const auto& site : m_sites.sites)
        m_choice->addItem(qt(site.name));
    m_address = new QLineEdit(this);
    m_address->setObjectName(u"blogAddress"_s);
    m_user = new QLineEdit(this);
    m_user->setObjectName(u"blogUser"_s);
    m_password = new QLineEdit(this);
    m_password->setObjectName(u"blogPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);
    m_selfSigned = new QCheckBox(u"接受自签名证书"_s, this);
    m_selfSigned->setObjectName(u"blogSelfSigned"_s);
    auto* add = new QPushButton(u"添加网站"_s, this);
    add->setObjectName(u"addBlog"_s);

    auto* form = new QFormLayout(this);
    form->addRow(u"网站类型："_s, m_type);
    form->addRow(u"选择网站："_s, m_choice);
    form->addRow(u"网站名称："_s, m_address);
    form->addRow(u"用户名："_s, m_user);
    form->addRow(u"密码："_s, m_password);
    form->addRow(m_selfSigned);
    form->addRow(add);

    showSite(m_sites.selected);
    connect(m_choice, &QComboBox::currentIndexChanged, this, &BlogSitesGroup::showSite);
    for (auto* edit : {m_address, m_user, m_password})
        connect(edit, &QLineEdit::textEdited, this, &BlogSitesGroup::storeFields);
    connect(m_type, &QComboBox::currentIndexChanged, this, &BlogSitesGroup::storeFields);
    connect(m_selfSigned, &QCheckBox::toggled, this, &BlogSitesGroup::storeFields);
    connect(add, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name = QInputDialog::getText(this, u"添加网站"_s, u"网站名称："_s, QLineEdit::Normal, {}, &ok);
        if (ok)
            addSite(name.trimmed());
    });
}

void BlogSitesGroup::showSite(int index)
{
    m_filling = true;
    m_sites.selected = index >= 0 && index < static_cast<int>(m_sites.sites.size()) ? index : -1;
    m_choice->setCurrentIndex(m_sites.selected);
    if (m_sites.selected >= 0) {
        const auto& site = m_sites.sites[static_cast<std::size_t>(m_sites.selected)];
        m_type->setCurrentIndex(static_cast<int>(site.type));
        m_address->setText(qt(site.address));
        m_user->setText(qt(site.user));
        m_password->setText(qt(site.password));
        m_selfSigned->setChecked(site.acceptSelfSignedCertificate);
    }
    m_filling = false;
}

publish::BlogSite BlogSitesGroup::siteFromFields() const
{
    publish::BlogSite site;
    site.type = m_type->currentIndex() == 1 ? publish::BlogType::MetaWeblog : publish::BlogType::WordPress;
    site.address = m_address->text().toStdU16String();
    site.user = m_user->text().toStdU16String();
    site.password = m_password->text().toStdU16String();
    site.acceptSelfSignedCertificate = m_selfSigned->isChecked();
    return site;
}

void BlogSitesGroup::storeFields()
{
    if (m_filling || m_sites.selected < 0)
        return;
    auto& site = m_sites.sites[static_cast<std::size_t>(m_sites.selected)];
    publish::BlogSite edited = siteFromFields();
    edited.name = site.name;
    site = std::move(edited);
}

bool BlogSitesGroup::addSite(const QString& name)
{
    if (name.isEmpty() || m_sites.find(name.toStdU16String()) != nullptr)
        return false;
    publish::BlogSite site = siteFromFields();
    site.name = name.toStdU16String();
    m_sites.sites.push_back(std::move(site));
    m_choice->addItem(name);
    showSite(static_cast<int>(m_sites.sites.size()) - 1);
    return true;
}

publish::BlogSiteList BlogSitesGroup::sites() const
{
    return m_sites;
}

}  // namespace veyla::gui
