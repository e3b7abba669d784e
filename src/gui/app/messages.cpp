// SPDX-License-Identifier: MIT
#include "gui/app/messages.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

QString messageFor(ErrorCode code, Operation operation)
{
    switch (code) {
    case ErrorCode::FileUnavailable:
        return u"文件不存在或正在使用中"_s;
    case ErrorCode::NotChapterFormat:
    case ErrorCode::NotChapterXml:
        return operation == Operation::AppendToChapter ? u"不是Veyla所需XML格式,请重新建立！"_s
                                                       : u"不是Veyla所需格式,请重新建立！"_s;
    case ErrorCode::AlreadyExists:
        return u"存在相同名字的文章，请另换一个名字"_s;
    case ErrorCode::WriteFailed:
        return u"文件无法写入"_s;
    case ErrorCode::InvalidArgument:
        return u"名称或参数无效"_s;
    case ErrorCode::Unsupported:
        return u"不支持的文件"_s;
    case ErrorCode::Cancelled:
        return u"已停止"_s;
    case ErrorCode::CorruptArchive:
        return u"压缩文件已损坏"_s;
    case ErrorCode::UnsafeEntry:
        return u"压缩文件中含有不安全的条目，已拒绝"_s;
    case ErrorCode::TooLarge:
        return u"文件过大"_s;
    case ErrorCode::MalformedBook:
        return u"不是可以导入的EPUB电子书"_s;
    case ErrorCode::NotTextBox:
        return u"请在字符数据块中粘贴文本！"_s;
    case ErrorCode::DeviceUnavailable:
        return u"没有可用的声音设备"_s;
    case ErrorCode::EngineUnavailable:
        return u"语音引擎无法启动"_s;
    case ErrorCode::MalformedData:
        return u"数据文件格式不正确"_s;
    case ErrorCode::NetworkFailed:
        return u"网络连接失败"_s;
    case ErrorCode::TimedOut:
        return u"网络连接超时"_s;
    }
    return QString();
}

}  // namespace veyla::gui
