"""The exceptions of the tarvox package; their messages are the tarvox tool's."""


class InputError(ValueError):
    """A stream, a class name or an input was refused; nothing was computed."""


class ModuleError(RuntimeError):
    """The module or its data could not be used (a broken installation)."""
