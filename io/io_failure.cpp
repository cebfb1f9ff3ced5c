#include "io/io_failure.h"

#include "core/profile/station.h"

#include <cerrno>
#include <exception>
#include <new>
#include <stdexcept>
#include <utility>

namespace tarnvel::io {
namespace {

std::string_view ActionText(FileAction action) {
    switch (action) {
        case FileAction::Create: return "创建";
        case FileAction::Open: return "打开";
        case FileAction::Read: return "读取";
        case FileAction::Write: return "写入";
    }
    return "访问";
}

std::string Reason(FileAction action, int code) {
    switch (code) {
        case ENOENT:
            return action == FileAction::Open || action == FileAction::Read
                       ? "文件不存在"
                       : "文件所在的文件夹不存在";
        case ENOTDIR: return "路径中有一级不是文件夹";
        case EISDIR: return "这是一个文件夹，不是文件";
        case EACCES:
        case EPERM: return "没有访问权限";
        case EROFS: return "文件所在的磁盘是只读的";
        case ENOSPC:
        case EDQUOT: return "磁盘已满";
        case EFBIG: return "文件超出了系统允许的大小";
        case ENAMETOOLONG: return "文件名或路径太长";
        case ELOOP: return "路径中的符号链接太多或形成了循环";
        case EMFILE:
        case ENFILE: return "同时打开的文件太多";
        case EIO: return "磁盘读写出错";
        case ENXIO: return "设备不存在或管道没有读取方";
        case ETXTBSY:
        case EBUSY: return "文件正被其他程序使用";
        case EINVAL: return "文件名无效";
        case ENOMEM: return "内存不足";
        case EPIPE: return "管道已关闭（读取的一方已经退出）";
        case EXDEV: return "不能跨磁盘替换文件";
        default: return "系统错误（错误代码 " + std::to_string(code) + "）";
    }
}

std::string Sentence(FileAction action, std::string_view path, std::string_view reason) {
    std::string text = "无法";
    text += ActionText(action);
    text += "文件“";
    text += path;
    text += "”：";
    text += reason;
    if (!reason.ends_with("。")) text += "。";
    return text;
}

}  // namespace

std::string DescribeFileError(FileAction action, std::string_view path, int code) {
    return Sentence(action, path, Reason(action, code));
}

IoFailure FileFailure(FileAction action, std::string_view path, int code) {
    return IoFailure{FailureKind::File, DescribeFileError(action, path, code)};
}

IoFailure NotProfileFailure(std::string_view path, std::string_view what) {
    std::string text = "文件“";
    text += path;
    text += "”";
    text += what;
    return IoFailure{FailureKind::NotProfile, std::move(text)};
}

std::string Excerpt(std::string_view text) { return MessageExcerpt(text); }

IoFailure NewFileRefused(std::string_view path, int code) {
    return IoFailure{FailureKind::File,
                     Sentence(FileAction::Create, path,
                              "系统不允许在这个文件夹中新建文件（错误代码 " + std::to_string(code) + "）")};
}

std::string DescribeStreamWriteError(std::string_view stream, int code) {
    std::string text = "无法写入";
    text += stream;
    text += "：";
    // A stream the caller closed (">&-") has no file behind it at all.
    if (code == EBADF) {
        text += stream;
        text += "已关闭";
    } else {
        text += Reason(FileAction::Write, code == 0 ? EIO : code);
    }
    text += "。";
    return text;
}

IoFailure CurrentExceptionFailure(FileAction action, std::string_view path) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return FileFailure(action, path, ENOMEM);
    } catch (const std::exception& e) {
        return IoFailure{FailureKind::File, Sentence(action, path, e.what())};
    }
}

}  // namespace tarnvel::io
