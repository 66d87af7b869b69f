"""PDF to compact, structured HTML for language models, and fast extraction of
text, tables, images, fonts, links and the outline."""

from ._quirelle import Pdf, __all__, __version__, from_bytes, open  # noqa: A004

__all__ = list(__all__)
